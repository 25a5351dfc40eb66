#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QStackedWidget;

// A wizard dialog that leaves every move to virtual operations: a sequence of
// pages, each with its title and its own Back, Next, Finish and Help flags;
// Next and Back pass over pages that are not appropriate, Return presses Next
// (Finish where Next is off and Finish on), arriving puts the keyboard into the
// page's first empty field, and a subclass lays out the title row (GUI thread).
class ETWizard : public QDialog
{
    Q_OBJECT

  public:
    explicit ETWizard(QWidget *parent = nullptr);
    ~ETWizard() override;

    // Appends the page; the wizard owns it from now on.
    virtual void addPage(QWidget *page, const QString &title);
    // Takes the page out of the sequence; it stays the wizard's, hidden.
    void removePage(QWidget *page);

    // Null until the first page is shown.
    QWidget *currentPage() const { return m_current; }
    QWidget *page(int index) const;
    int pageCount() const { return int(m_pages.size()); }
    // -1 for a page not in the sequence.
    int indexOf(QWidget *page) const;

    QString title(QWidget *page) const;
    void setTitle(QWidget *page, const QString &title);
    // A new page may go back and forward, not finish, and has Help.
    void setBackEnabled(QWidget *page, bool enabled);
    void setNextEnabled(QWidget *page, bool enabled);
    void setFinishEnabled(QWidget *page, bool enabled);
    void setHelpEnabled(QWidget *page, bool enabled);
    bool backEnabled(QWidget *page) const;
    bool nextEnabled(QWidget *page) const;
    bool finishEnabled(QWidget *page) const;
    bool helpEnabled(QWidget *page) const;

    // Named "help", "back", "next", "finish" and "cancel".
    QPushButton *helpButton() const { return m_helpButton; }
    QPushButton *backButton() const { return m_backButton; }
    QPushButton *nextButton() const { return m_nextButton; }
    QPushButton *finishButton() const { return m_finishButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    // Keeps the text as the button's accessible name, too, for when a picture replaces it.
    static void setButtonText(QPushButton *button, const QString &text);

    // Next and Back pass over a page for which this is false.
    virtual bool appropriate(QWidget *page) const;

  public slots:
    // Makes a page of the sequence the current one; other widgets are ignored.
    virtual void showPage(QWidget *page);
    // The next appropriate page after the current one; none: the wizard stays.
    virtual void next();
    // The nearest appropriate page before the current one; none: the wizard stays.
    virtual void back();

  signals:
    void helpClicked();

  protected:
    // Fills the emptied title row for the page being shown; the base shows
    // the title in a label of its own.
    virtual void layOutTitleRow(QHBoxLayout *layout, const QString &title);
    // Where the keyboard goes on a page just shown: its first empty field.
    void focusOnArrival(QWidget *page);

  private:
    struct Page {
        QWidget *widget = nullptr;
        QString title;
        bool back = true;
        bool next = true;
        bool finish = false;
        bool help = true;
    };

    Page *find(QWidget *page);
    const Page *find(QWidget *page) const;
    void updateTitleRow();
    void updateButtons();

    QList<Page> m_pages;
    QWidget *m_current = nullptr;
    QHBoxLayout *m_titleRow;
    QStackedWidget *m_stack;
    QLabel *m_titleLabel = nullptr;
    QPushButton *m_helpButton;
    QPushButton *m_backButton;
    QPushButton *m_nextButton;
    QPushButton *m_finishButton;
    QPushButton *m_cancelButton;
};
