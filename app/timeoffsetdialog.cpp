#include "timeoffsetdialog.h"

#include "dialoglook.h"
#include "settingsbutton.h"
#include "zelcfg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TimeOffsetDialog::TimeOffsetDialog(int minutes, QWidget* parent)
    : QDialog(DialogLook::parentFor(parent)), m_text(new QLabel(this)), m_sign(new QComboBox(this)),
      m_hours(new QSpinBox(this)), m_minutes(new QSpinBox(this))
{
    setObjectName(QStringLiteral("TimeOffsetDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(tr("Time offset"));
    setWindowIcon(QIcon(Design::WindowIconPath));
    DialogLook::apply(this);

    m_text->setText(tr("Shift the shown clock times, for a camera whose clock or GPS time is not "
                       "the local time."));
    m_text->setWordWrap(true);
    m_sign->addItems({QStringLiteral("+"), QString::fromUtf8("\u2212")});
    m_sign->setAccessibleName(tr("Direction"));
    m_hours->setRange(0, 23);
    m_hours->setSuffix(tr(" h"));
    m_hours->setAccessibleName(tr("Hours"));
    m_minutes->setRange(0, 59);
    m_minutes->setSuffix(tr(" min"));
    m_minutes->setAccessibleName(tr("Minutes"));

    auto* row = new QHBoxLayout();
    row->addWidget(m_sign);
    row->addWidget(m_hours);
    row->addWidget(m_minutes);
    row->addStretch(1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* reset = buttons->addButton(tr("No offset"), QDialogButtonBox::ResetRole);
    connect(reset, &QPushButton::clicked, this, [this]() { setMinutes(0); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinutes(minutes);
}

int TimeOffsetDialog::minutes() const
{
    const int magnitude = m_hours->value() * 60 + m_minutes->value();
    return m_sign->currentIndex() == 1 ? -magnitude : magnitude;
}

void TimeOffsetDialog::setMinutes(int minutes)
{
    minutes = qBound(-SettingsButton::MaxOffsetMinutes, minutes, SettingsButton::MaxOffsetMinutes);
    m_sign->setCurrentIndex(minutes < 0 ? 1 : 0);
    m_hours->setValue(qAbs(minutes) / 60);
    m_minutes->setValue(qAbs(minutes) % 60);
}
