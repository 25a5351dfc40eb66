#pragma once

#include <QDate>
#include <QString>
#include <QWidget>

#include <functional>

class QSpinBox;

// Month and year side by side ("MM / YYYY"), the validity date of a credit
// card. Reads and writes the text form MM/YY (GUI thread).
class ETValidUntilEdit : public QWidget
{
    Q_OBJECT

  public:
    // A month or year of 0 leaves that box at its minimum. rangeFromToday
    // offers this year to ten years ahead, else 1900 to 2099.
    ETValidUntilEdit(QWidget *parent, const QString &name, int month, int year, bool rangeFromToday);

    QString text() const;
    // "MM/YY" or "MM/YYYY"; values are clamped to the boxes' ranges.
    void setText(const QString &text);
    int month() const;
    // Four digits.
    int year() const;

    // A card valid until this month and year has run out: the month lies
    // before the current one.
    bool isBeforeCurrentMonth() const;
    // Today's date, which the range from today and the current month follow.
    static QDate today();
    // For tests: the clock of today(); an empty function restores the real one.
    static void setClockForTests(std::function<QDate()> clock);

    QSpinBox *monthBox() const { return m_month; }
    QSpinBox *yearBox() const { return m_year; }

  private:
    QSpinBox *m_month;
    QSpinBox *m_year;
};
