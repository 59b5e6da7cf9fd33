// What the frame's docks hold.
#include "gui/dock_content.h"

#include <QFrame>
#include <QScrollArea>

namespace telmor {

QScrollArea* yielding(QWidget* content) {
  auto* area = new QScrollArea;
  area->setWidget(content);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setMinimumHeight(60);
  return area;
}

}  // namespace telmor
