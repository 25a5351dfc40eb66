#pragma once

#include <QProxyStyle>

// The style of flat picture buttons: the button shows its picture as its
// face; splitter handles are round dots. Set per widget, never for the whole
// application (GUI thread).
class ETRoundStyle : public QProxyStyle
{
    Q_OBJECT

  public:
    static ETRoundStyle *instance();

    void polish(QApplication *application) override;
    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    QRect subElementRect(SubElement element, const QStyleOption *option,
                         const QWidget *widget = nullptr) const override;

    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    ETRoundStyle();
    static void updateMask(QWidget *widget);
};
