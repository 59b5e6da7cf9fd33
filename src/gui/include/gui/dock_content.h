// What the frame's docks hold.
#pragma once

class QScrollArea;
class QWidget;

namespace telmor {

// A dock's content in a scroll area (which takes ownership of it), so that in
// a small frame the dock can give its height to the chart and scroll instead.
QScrollArea* yielding(QWidget* content);

}  // namespace telmor
