#pragma once

#include "etorderline.h"

// The client's order line: the thumbnail centred on an 80 x 80 canvas, the
// prices in labelled fields, and with the skin's item frame a white margin
// and a black one-pixel frame around it all (GUI thread).
class ETOrderLineQIX : public ETOrderLine
{
    Q_OBJECT

  public:
    // Puts itself into the table's cell (row, column); the table owns it.
    ETOrderLineQIX(ETOrderItem *item, int row, int column, ETOrderTable *table,
                   const QString &name = QString());

    static constexpr int canvasSize = 80;
    static constexpr int framedRowHeight = 105;

  protected:
    void showThumbnail() override;
    int buildLayout() override;
};
