#include "maskdialog.h"

#include "dialoglook.h"
#include "maskeditor.h"
#include "maskstore.h"
#include "snapshot.h"
#include "triptimeline.h"
#include "units.h"
#include "zelcfg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

MaskDialog::MaskDialog(Trip::TripList trip, qint64 positionMs, QWidget* parent)
    : QDialog(DialogLook::parentFor(parent)), m_trip(std::move(trip)), m_editor(new MaskEditor(this)),
      m_slider(new QSlider(Qt::Horizontal, this)), m_time(new QLabel(this)), m_blur(new QRadioButton(this)),
      m_pixelate(new QRadioButton(this)), m_removeKey(new QPushButton(this)), m_remove(new QPushButton(this)),
      m_decode(new QTimer(this))
{
    setObjectName(QStringLiteral("MaskDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(tr("Privacy masks"));
    setWindowIcon(QIcon(Design::WindowIconPath));
    DialogLook::apply(this);

    auto* help = new QLabel(tr("Drag on the picture to hide a face or a number plate. Move to where the "
                               "object has gone and drag the mask after it: it moves evenly between the "
                               "places you set. Exports with data and snapshots apply the masks."),
                            this);
    help->setWordWrap(true);
    m_slider->setObjectName(QStringLiteral("maskPosition"));
    m_slider->setAccessibleName(tr("Position"));
    m_slider->setRange(0, int(std::max<qint64>(0, TripTimeline(m_trip).duration() - 1)));
    m_slider->setSingleStep(100);
    m_slider->setPageStep(1000);
    m_blur->setText(tr("Blur"));
    m_pixelate->setText(tr("Pixelate"));
    m_removeKey->setText(tr("Remove this keyframe"));
    m_remove->setText(tr("Delete mask"));
    m_decode->setSingleShot(true);
    m_decode->setInterval(120);

    auto* position = new QHBoxLayout();
    position->addWidget(m_slider, 1);
    position->addWidget(m_time);
    auto* tools = new QHBoxLayout();
    tools->addWidget(m_blur);
    tools->addWidget(m_pixelate);
    tools->addStretch(1);
    tools->addWidget(m_removeKey);
    tools->addWidget(m_remove);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(help);
    layout->addWidget(m_editor, 1);
    layout->addLayout(position);
    layout->addLayout(tools);
    layout->addWidget(buttons);

    // Decoding follows the slider once it rests, so that dragging it stays smooth.
    connect(m_slider, &QSlider::valueChanged, this, [this](int ms) {
        m_time->setText(Units::positionText(ms));
        m_decode->start();
    });
    connect(m_decode, &QTimer::timeout, this, [this]() { showPosition(m_slider->value()); });
    connect(m_blur, &QRadioButton::clicked, this, [this]() { m_editor->setSelectedMode(Masks::Mode::Blur); });
    connect(m_pixelate, &QRadioButton::clicked, this,
            [this]() { m_editor->setSelectedMode(Masks::Mode::Pixelate); });
    connect(m_removeKey, &QPushButton::clicked, m_editor, &MaskEditor::removeSelectedKeyframe);
    connect(m_remove, &QPushButton::clicked, m_editor, &MaskEditor::removeSelected);
    connect(m_editor, &MaskEditor::selectionChanged, this, &MaskDialog::updateControls);
    connect(m_editor, &MaskEditor::masksChanged, this, &MaskDialog::updateControls);

    m_editor->setMasks(MaskStore::load(m_trip));
    m_slider->blockSignals(true);
    m_slider->setValue(int(positionMs));
    m_slider->blockSignals(false);
    m_time->setText(Units::positionText(positionMs));
    showPosition(positionMs);
    updateControls();
    resize(900, 640);
}

void MaskDialog::showPosition(qint64 positionMs)
{
    Snapshot still(m_trip, nullptr);
    if (still.grab(positionMs))
        m_editor->setFrame(still.frame(), double(positionMs) / 1000.0);
}

void MaskDialog::updateControls()
{
    const int index = m_editor->selected();
    const bool chosen = index >= 0 && index < m_editor->masks().masks().size();
    for (QWidget* control : {static_cast<QWidget*>(m_blur), static_cast<QWidget*>(m_pixelate),
                             static_cast<QWidget*>(m_removeKey), static_cast<QWidget*>(m_remove)})
        control->setEnabled(chosen);
    if (chosen) {
        const bool pixelate = m_editor->masks().masks()[index].mode == Masks::Mode::Pixelate;
        m_pixelate->setChecked(pixelate);
        m_blur->setChecked(!pixelate);
    }
}

void MaskDialog::accept()
{
    QString error;
    if (!MaskStore::save(m_trip, m_editor->masks(), &error)) {
        QMessageBox* box =
            DialogLook::messageBox(this, QMessageBox::Warning, tr("The masks could not be saved."), error);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
        return;
    }
    QDialog::accept();
}
