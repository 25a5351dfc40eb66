#include "etwizard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace
{

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    // Only the default button (Next, or Finish on the last page) is pressed by
    // Return; a wizard button with the keyboard on it does not take Return over.
    button->setAutoDefault(false);
    ETWizard::setButtonText(button, text);
    return button;
}

} // namespace

ETWizard::ETWizard(QWidget *parent)
    : QDialog(parent), m_titleRow(new QHBoxLayout), m_stack(new QStackedWidget(this)),
      m_helpButton(makeButton(this, "help", tr("&Help"))),
      m_backButton(makeButton(this, "back", tr("< &Back"))),
      m_nextButton(makeButton(this, "next", tr("&Next >"))),
      m_finishButton(makeButton(this, "finish", tr("&Finish"))),
      m_cancelButton(makeButton(this, "cancel", tr("&Cancel")))
{
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_helpButton);
    buttons->addStretch(1);
    for (QPushButton *button : {m_backButton, m_nextButton, m_finishButton, m_cancelButton})
        buttons->addWidget(button);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_titleRow);
    layout->addWidget(m_stack, 1);
    layout->addLayout(buttons);

    m_nextButton->setDefault(true);

    connect(m_helpButton, &QPushButton::clicked, this, &ETWizard::helpClicked);
    connect(m_backButton, &QPushButton::clicked, this, &ETWizard::back);
    connect(m_nextButton, &QPushButton::clicked, this, &ETWizard::next);
    connect(m_finishButton, &QPushButton::clicked, this, &ETWizard::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &ETWizard::reject);
    updateButtons();
}

ETWizard::~ETWizard() = default;

void ETWizard::addPage(QWidget *page, const QString &title)
{
    if (!page || find(page))
        return;
    Page entry;
    entry.widget = page;
    entry.title = title;
    m_pages.append(entry);
    m_stack->addWidget(page);
    updateButtons();
}

void ETWizard::removePage(QWidget *page)
{
    const int index = indexOf(page);
    if (index < 0)
        return;
    m_pages.removeAt(index);
    // Still the stack's child, so it is deleted with the wizard.
    m_stack->removeWidget(page);
    page->hide();
    if (page == m_current)
        m_current = nullptr;
    updateButtons();
}

QWidget *ETWizard::page(int index) const
{
    return index >= 0 && index < m_pages.size() ? m_pages.at(index).widget : nullptr;
}

int ETWizard::indexOf(QWidget *page) const
{
    for (int i = 0; i < m_pages.size(); ++i)
        if (m_pages.at(i).widget == page)
            return i;
    return -1;
}

ETWizard::Page *ETWizard::find(QWidget *page)
{
    const int index = indexOf(page);
    return index < 0 ? nullptr : &m_pages[index];
}

const ETWizard::Page *ETWizard::find(QWidget *page) const
{
    const int index = indexOf(page);
    return index < 0 ? nullptr : &m_pages.at(index);
}

QString ETWizard::title(QWidget *page) const
{
    const Page *entry = find(page);
    return entry ? entry->title : QString();
}

void ETWizard::setTitle(QWidget *page, const QString &title)
{
    if (Page *entry = find(page)) {
        entry->title = title;
        if (page == m_current)
            updateTitleRow();
    }
}

void ETWizard::setBackEnabled(QWidget *page, bool enabled)
{
    if (Page *entry = find(page)) {
        entry->back = enabled;
        updateButtons();
    }
}

void ETWizard::setNextEnabled(QWidget *page, bool enabled)
{
    if (Page *entry = find(page)) {
        entry->next = enabled;
        updateButtons();
    }
}

void ETWizard::setFinishEnabled(QWidget *page, bool enabled)
{
    if (Page *entry = find(page)) {
        entry->finish = enabled;
        updateButtons();
    }
}

void ETWizard::setHelpEnabled(QWidget *page, bool enabled)
{
    if (Page *entry = find(page)) {
        entry->help = enabled;
        updateButtons();
    }
}

bool ETWizard::backEnabled(QWidget *page) const
{
    const Page *entry = find(page);
    return entry && entry->back;
}

bool ETWizard::nextEnabled(QWidget *page) const
{
    const Page *entry = find(page);
    return entry && entry->next;
}

bool ETWizard::finishEnabled(QWidget *page) const
{
    const Page *entry = find(page);
    return entry && entry->finish;
}

bool ETWizard::helpEnabled(QWidget *page) const
{
    const Page *entry = find(page);
    return entry && entry->help;
}

void ETWizard::setButtonText(QPushButton *button, const QString &text)
{
    button->setText(text);
    QString name = text;
    button->setAccessibleName(name.remove(QLatin1Char('&')));
}

bool ETWizard::appropriate(QWidget *) const
{
    return true;
}

void ETWizard::showPage(QWidget *page)
{
    if (indexOf(page) < 0)
        return;
    m_current = page;
    m_stack->setCurrentWidget(page);
    updateTitleRow();
    updateButtons();
    focusOnArrival(page);
}

void ETWizard::focusOnArrival(QWidget *page)
{
    // What is typed at once lands in the first empty field. Without one the keyboard stays where
    // the page put it, but never on a button of the page: Return would press that one instead of
    // the default button.
    QWidget *empty = nullptr;
    QWidget *first = nullptr;
    QWidget *widget = page;
    do {
        widget = widget->nextInFocusChain();
        if (!page->isAncestorOf(widget) || !widget->isEnabled() || !widget->isVisibleTo(page) ||
            !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (!first && !qobject_cast<QPushButton *>(widget))
            first = widget;
        auto *edit = qobject_cast<QLineEdit *>(widget);
        if (edit && !edit->isReadOnly() && edit->text().isEmpty()) {
            empty = edit;
            break;
        }
    } while (widget != page);
    QWidget *focus = focusWidget();
    const bool inPage = focus && page->isAncestorOf(focus) && !qobject_cast<QPushButton *>(focus);
    if (empty)
        empty->setFocus(Qt::OtherFocusReason);
    else if (!inPage && first)
        first->setFocus(Qt::OtherFocusReason);
    else if (!inPage && qobject_cast<QPushButton *>(focus) && page->isAncestorOf(focus))
        page->setFocus();
}

void ETWizard::next()
{
    for (int i = indexOf(m_current) + 1; i < m_pages.size(); ++i) {
        if (appropriate(m_pages.at(i).widget)) {
            showPage(m_pages.at(i).widget);
            return;
        }
    }
}

void ETWizard::back()
{
    for (int i = indexOf(m_current) - 1; i >= 0; --i) {
        if (appropriate(m_pages.at(i).widget)) {
            showPage(m_pages.at(i).widget);
            return;
        }
    }
}

void ETWizard::layOutTitleRow(QHBoxLayout *layout, const QString &title)
{
    if (!m_titleLabel)
        m_titleLabel = new QLabel(this);
    m_titleLabel->setText(title);
    layout->addWidget(m_titleLabel);
}

void ETWizard::updateTitleRow()
{
    while (QLayoutItem *item = m_titleRow->takeAt(0))
        delete item;
    layOutTitleRow(m_titleRow, title(m_current));
}

void ETWizard::updateButtons()
{
    const int index = indexOf(m_current);
    const Page *entry = find(m_current);
    m_backButton->setEnabled(entry && entry->back && index > 0);
    m_nextButton->setEnabled(entry && entry->next && index < m_pages.size() - 1);
    m_finishButton->setEnabled(entry && entry->finish);
    m_helpButton->setEnabled(entry && entry->help);
    // Return goes on: to the next page, or on the last one to the end.
    const bool finishes = m_finishButton->isEnabled() && !m_nextButton->isEnabled();
    (finishes ? m_finishButton : m_nextButton)->setDefault(true);
    (finishes ? m_nextButton : m_finishButton)->setDefault(false);
}
