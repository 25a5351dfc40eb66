#pragma once

#include "etorderline.h"

// The plain order line: one grid row with the thumbnail, the product, the
// amount, the quality mark and the prices beside their currency (GUI thread).
class ETOrderLineDefault : public ETOrderLine
{
    Q_OBJECT

  public:
    // Puts itself into the table's cell (row, column); the table owns it.
    ETOrderLineDefault(ETOrderItem *item, int row, int column, ETOrderTable *table,
                       const QString &name = QString());

  protected:
    void showThumbnail() override;
    int buildLayout() override;
};
