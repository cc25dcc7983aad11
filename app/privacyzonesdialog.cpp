#include "privacyzonesdialog.h"

#include "dialoglook.h"
#include "zelcfg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

PrivacyZonesDialog::PrivacyZonesDialog(const PrivacyZones& zones, QWidget* parent)
    : QDialog(DialogLook::parentFor(parent)), m_editor(new QPlainTextEdit(this)), m_problem(new QLabel(this))
{
    setObjectName(QStringLiteral("PrivacyZonesDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(tr("Privacy zones"));
    setWindowIcon(QIcon(Design::WindowIconPath));
    DialogLook::apply(this);

    auto* text = new QLabel(tr("No export shows a position within these circles, such as around your home; "
                               "time and speed stay. One zone a line: latitude, longitude, radius in metres, "
                               "e.g. 48.1374,11.5755,200."),
                            this);
    text->setWordWrap(true);
    m_editor->setObjectName(QStringLiteral("zonesEditor"));
    m_editor->setAccessibleName(tr("Zones"));
    m_editor->setPlainText(zones.toStrings().join(QLatin1Char('\n')));
    m_problem->setObjectName(QStringLiteral("zonesProblem"));
    m_problem->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_editor, &QPlainTextEdit::textChanged, this, &PrivacyZonesDialog::check);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_editor);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    check();
}

PrivacyZones PrivacyZonesDialog::read(QString* problem) const
{
    PrivacyZones zones;
    const QStringList lines = m_editor->toPlainText().split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        PrivacyZones::Zone zone;
        QString error;
        if (!PrivacyZones::parse(lines[i], zone, &error)) {
            if (problem && problem->isEmpty())
                *problem = tr("Line %1: %2").arg(i + 1).arg(error);
            continue;
        }
        zones.add(zone);
    }
    return zones;
}

PrivacyZones PrivacyZonesDialog::zones() const
{
    return read(nullptr);
}

void PrivacyZonesDialog::check()
{
    QString problem;
    read(&problem);
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    m_ok->setEnabled(problem.isEmpty());
}
