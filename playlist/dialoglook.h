#pragma once

#include <QString>

class QMessageBox;
class QWidget;

// The look of the program's dialogs and message boxes: the dark grey of the panels with white
// text, the highlight colour behind black text, and greyed text that stays readable. Every
// pair of text and background colour has a contrast ratio of at least 4.5:1. Dialogs are
// parented to the top-level window, whose look does not cascade into them.
namespace DialogLook {

void apply(QWidget* dialog);

// The parent for a dialog opened from `widget`: its window, unless a style sheet is set there
// or above (style sheets cascade into child windows and override the dialog's colours); then
// none.
QWidget* parentFor(QWidget* widget);

// A message box in that look: application name as title, window icon, one OK button.
QMessageBox* messageBox(QWidget* parent, int icon, const QString& text, const QString& informativeText = {});

} // namespace DialogLook
