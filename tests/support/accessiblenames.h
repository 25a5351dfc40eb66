#pragma once

#include <QStringList>

class QWidget;

// The controls at or below top that a screen reader could not name: buttons,
// check and radio boxes, line edits, combo and spin boxes, text and item
// views whose accessible name is empty or still carries rich-text markup.
// Each as class "objectName" (and the name when it carries markup); hidden
// controls count too, they may be shown later. The parts of a box, a spin box
// or a view's frame are named by their owner and left out; widgets placed into
// a view's viewport (an order line in the basket) are not.
QStringList unnamedControls(QWidget *top);
