#include "maskpanel.h"

#include "maskeditor.h"
#include "maskstore.h"
#include "snapshot.h"

#include <vireo/vlcvideowidget.h>

#include <QBoxLayout>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QtConcurrent>

MaskPanel::MaskPanel(VlcVideoWidget* video)
    : QWidget(video), m_video(video), m_editor(new MaskEditor(this)), m_help(new QLabel(this)),
      m_blur(new QRadioButton(this)), m_pixelate(new QRadioButton(this)), m_removeKey(new QPushButton(this)),
      m_remove(new QPushButton(this)), m_done(new QPushButton(this))
{
    setObjectName(QStringLiteral("maskPanel"));
    // A window of its own covers the engine's, which Qt cannot paint over.
    setAttribute(Qt::WA_NativeWindow);
    setAutoFillBackground(true);
    setPalette(QPalette(QColor(40, 40, 40), QColor(24, 24, 24)));
    setStyleSheet(QStringLiteral(
        "QLabel, QRadioButton { color: #e6e6e6; }"
        "QPushButton { color: #e6e6e6; background: #3a3a3a; border: 1px solid #707070; padding: 3px 10px; }"
        "QPushButton:disabled, QRadioButton:disabled { color: #808080; border-color: #505050; }"
        "QRadioButton::indicator { width: 10px; height: 10px; border-radius: 6px; border: 1px solid #b0b0b0; "
        "}"
        "QRadioButton::indicator:checked { background: #ffc800; border-color: #ffc800; }"
        "QRadioButton::indicator:disabled { border-color: #505050; }"));
    m_editor->setMinimumSize(0, 0);
    m_help->setWordWrap(true);
    // The player's keys (arrows, space) keep working while the panel is open.
    for (QWidget* control :
         {static_cast<QWidget*>(m_blur), static_cast<QWidget*>(m_pixelate),
          static_cast<QWidget*>(m_removeKey), static_cast<QWidget*>(m_remove), static_cast<QWidget*>(m_done)})
        control->setFocusPolicy(Qt::NoFocus);
    m_done->setObjectName(QStringLiteral("maskDone"));

    // The help beside Done, the tools for the chosen mask below: narrow enough for the window's
    // smallest picture.
    auto* top = new QHBoxLayout();
    top->addWidget(m_help, 1);
    top->addWidget(m_done, 0, Qt::AlignTop);
    auto* modes = new QHBoxLayout();
    modes->setSpacing(16);
    modes->addWidget(m_blur);
    modes->addWidget(m_pixelate);
    modes->addStretch(1);
    auto* actions = new QHBoxLayout();
    actions->addStretch(1);
    actions->addWidget(m_removeKey);
    actions->addWidget(m_remove);
    m_tools = new QBoxLayout(QBoxLayout::LeftToRight);
    m_tools->addLayout(modes);
    m_tools->addLayout(actions);
    auto* strip = new QVBoxLayout();
    strip->setContentsMargins(8, 4, 8, 4);
    strip->setSpacing(4);
    strip->addLayout(top);
    strip->addLayout(m_tools);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(strip);
    layout->addWidget(m_editor, 1);

    connect(m_blur, &QRadioButton::clicked, this, [this]() { m_editor->setSelectedMode(Masks::Mode::Blur); });
    connect(m_pixelate, &QRadioButton::clicked, this,
            [this]() { m_editor->setSelectedMode(Masks::Mode::Pixelate); });
    connect(m_removeKey, &QPushButton::clicked, m_editor, &MaskEditor::removeSelectedKeyframe);
    connect(m_remove, &QPushButton::clicked, m_editor, &MaskEditor::removeSelected);
    connect(m_done, &QPushButton::clicked, this, &MaskPanel::finish);
    connect(m_editor, &MaskEditor::selectionChanged, this, &MaskPanel::updateControls);
    connect(m_editor, &MaskEditor::masksChanged, this, [this]() {
        updateControls();
        save();
    });
    auto* escape =
        new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &MaskPanel::finish);
    connect(&m_decoding, &QFutureWatcher<QImage>::finished, this, [this]() {
        const QImage frame = m_decoding.result();
        if (!frame.isNull() && isVisible())
            m_editor->setFrame(frame, double(m_decodingMs) / 1000.0);
        m_decodingMs = -1;
        decodeNext();
    });
    video->installEventFilter(this);
    retranslate();
    updateControls();
    hide();
}

void MaskPanel::setTrip(const Trip::TripList& trip)
{
    if (trip == m_trip)
        return;
    if (isVisible())
        finish();
    m_trip = trip;
    m_editor->setMasks(MaskStore::load(m_trip));
    m_editor->setFrame(QImage(), 0.0);
}

void MaskPanel::start(qint64 positionMs)
{
    if (m_trip.empty())
        return;
    m_editor->setMasks(MaskStore::load(m_trip));
    setGeometry(m_video->rect());
    show();
    raise();
    m_editor->setFocus();
    updateControls();
    showPosition(positionMs);
}

void MaskPanel::showPosition(qint64 positionMs)
{
    if (!isVisible() || m_trip.empty() || positionMs == m_decodingMs ||
        (m_wantedMs < 0 && m_decodingMs < 0 && qRound64(m_editor->seconds() * 1000.0) == positionMs &&
         m_editor->hasFrame()))
        return;
    m_wantedMs = positionMs;
    decodeNext();
}

void MaskPanel::decodeNext()
{
    if (m_decodingMs >= 0 || m_wantedMs < 0)
        return;
    m_decodingMs = std::exchange(m_wantedMs, -1);
    m_decoding.setFuture(QtConcurrent::run([trip = m_trip, at = m_decodingMs]() {
        Snapshot still(trip, nullptr);
        return still.grab(at) ? still.frame() : QImage();
    }));
}

void MaskPanel::finish()
{
    if (!isVisible())
        return;
    hide();
    emit finished();
}

void MaskPanel::save()
{
    QString error;
    if (!MaskStore::save(m_trip, m_editor->masks(), &error)) {
        emit failed(tr("The masks could not be saved: %1").arg(error));
        return;
    }
    emit masksChanged();
}

bool MaskPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_video && event->type() == QEvent::Resize && isVisible())
        setGeometry(m_video->rect());
    return QWidget::eventFilter(watched, event);
}

void MaskPanel::resizeEvent(QResizeEvent* event)
{
    fitTools();
    QWidget::resizeEvent(event);
}

void MaskPanel::fitTools()
{
    // The mask's modes above its actions where one row does not fit (longer words, a small picture).
    int wanted = 0;
    for (const QWidget* control : {static_cast<QWidget*>(m_blur), static_cast<QWidget*>(m_pixelate),
                                   static_cast<QWidget*>(m_removeKey), static_cast<QWidget*>(m_remove)})
        wanted += control->sizeHint().width() + m_tools->spacing() + 6;
    m_tools->setDirection(wanted + 16 > width() ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
}

void MaskPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void MaskPanel::retranslate()
{
    m_help->setText(tr("Drag on the picture to hide a face or a number plate. Step on to where it has gone "
                       "and drag the mask after it: it moves evenly between the places you set."));
    m_blur->setText(tr("Blur"));
    m_pixelate->setText(tr("Pixelate"));
    m_removeKey->setText(tr("Remove keyframe"));
    m_remove->setText(tr("Delete mask"));
    m_done->setText(tr("Done"));
    fitTools();
}

void MaskPanel::updateControls()
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
