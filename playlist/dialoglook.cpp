#include "dialoglook.h"

#include "zelcfg.h"

#include <QIcon>
#include <QMessageBox>
#include <QPalette>
#include <QWidget>

namespace DialogLook {

void apply(QWidget* dialog)
{
    const QColor surface(0x3c, 0x3c, 0x3c);
    const QColor field(0x1e, 0x1e, 0x1e);
    const QColor button(0x45, 0x45, 0x45);
    const QColor highlight(0x00, 0xad, 0xef);
    const QColor greyed(0xb8, 0xb8, 0xb8);

    QPalette palette;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        const QColor text = disabled ? greyed : QColor(Qt::white);
        palette.setColor(group, QPalette::Window, surface);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, field);
        palette.setColor(group, QPalette::AlternateBase, QColor(0x2a, 0x2a, 0x2a));
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::PlaceholderText, greyed);
        palette.setColor(group, QPalette::Button, disabled ? QColor(0x3a, 0x3a, 0x3a) : button);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::BrightText, Qt::white);
        palette.setColor(group, QPalette::Highlight, highlight);
        palette.setColor(group, QPalette::HighlightedText, Qt::black);
        palette.setColor(group, QPalette::Link, highlight);
        palette.setColor(group, QPalette::LinkVisited, highlight);
        palette.setColor(group, QPalette::Light, QColor(0x77, 0x77, 0x77));
        palette.setColor(group, QPalette::Midlight, QColor(0x66, 0x66, 0x66));
        palette.setColor(group, QPalette::Mid, QColor(0x33, 0x33, 0x33));
        palette.setColor(group, QPalette::Dark, QColor(0x22, 0x22, 0x22));
        palette.setColor(group, QPalette::Shadow, Qt::black);
        palette.setColor(group, QPalette::ToolTipBase, surface);
        palette.setColor(group, QPalette::ToolTipText, Qt::white);
    }
    dialog->setPalette(palette);
    dialog->setAutoFillBackground(true);
}

QWidget* parentFor(QWidget* widget)
{
    QWidget* window = widget ? widget->window() : nullptr;
    for (QWidget* w = window; w; w = w->parentWidget()) {
        if (!w->styleSheet().isEmpty())
            return nullptr;
    }
    return window;
}

QMessageBox* messageBox(QWidget* parent, int icon, const QString& text, const QString& informativeText)
{
    auto* box =
        new QMessageBox(QMessageBox::Icon(icon), ZelCfg::AppName, text, QMessageBox::Ok, parentFor(parent));
    box->setWindowIcon(QIcon(Design::WindowIconPath));
    box->setInformativeText(informativeText);
    box->setTextFormat(Qt::PlainText);
    apply(box);
    return box;
}

} // namespace DialogLook
