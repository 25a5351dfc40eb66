#include "accessiblenames.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextEdit>
#include <QWidget>

namespace
{

bool isControl(const QWidget *widget)
{
    return qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QLineEdit *>(widget) ||
           qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget) ||
           qobject_cast<const QTextEdit *>(widget) || qobject_cast<const QPlainTextEdit *>(widget) ||
           qobject_cast<const QAbstractItemView *>(widget);
}

bool partOfAnotherControl(const QWidget *widget, const QWidget *top)
{
    const QWidget *child = widget;
    for (const QWidget *parent = widget->parentWidget(); parent && child != top;
         child = parent, parent = parent->parentWidget()) {
        if (qobject_cast<const QComboBox *>(parent) || qobject_cast<const QAbstractSpinBox *>(parent))
            return true;
        // Scroll bars, headers and the corner button sit beside the viewport.
        const auto *area = qobject_cast<const QAbstractScrollArea *>(parent);
        if (area && child != area->viewport())
            return true;
    }
    return false;
}

} // namespace

QStringList unnamedControls(QWidget *top)
{
    static const QRegularExpression markup(QStringLiteral("<[a-zA-Z/][^>]*>"));
    QList<QWidget *> widgets = top->findChildren<QWidget *>();
    widgets.prepend(top);
    QStringList unnamed;
    for (QWidget *widget : widgets) {
        if (!isControl(widget) || partOfAnotherControl(widget, top))
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        const QString name = accessible ? accessible->text(QAccessible::Name) : QString();
        const QString what = QStringLiteral("%1 \"%2\"")
                                 .arg(QLatin1String(widget->metaObject()->className()), widget->objectName());
        if (name.trimmed().isEmpty())
            unnamed << what;
        else if (name.contains(markup))
            unnamed << what + QStringLiteral(" named ") + name;
    }
    return unnamed;
}
