#pragma once

class QEvent;
class QWidget;

// A click, as the windows' headings and frames understand it: the left button
// pressed and released over the same control. Other buttons, and a release
// after the pointer has left the control, are no click.
bool endsLeftClick(const QWidget* control, const QEvent* event);
// A double click of the left button.
bool isLeftDoubleClick(const QEvent* event);
