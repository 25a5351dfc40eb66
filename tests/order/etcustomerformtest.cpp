#include "etcountrylist.h"
#include "etcustomer.h"
#include "etcustomerhandlermaker.h"
#include "etcustomerwidgethandler.h"

#include "resourcefolder.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

namespace
{

// What the maker was asked for, by key.
struct MadeHandler {
    QString kind;
    QStringList items;
    QString defaultText;
};

// Stands in for the wizard's editors: a line edit for every kind, whose
// check fails while its text is "bad", and a log of what was asked for.
class FakeHandler : public ETCustomerWidgetHandler
{
  public:
    using ETCustomerWidgetHandler::ETCustomerWidgetHandler;

    QWidget *createWidget(QObject *) override
    {
        auto *edit = new QLineEdit(page());
        edit->setObjectName(key() + QLatin1String("Edit"));
        return edit;
    }
    void showValue() override { edit()->setText(storedValue()); }
    bool check() override { return !edit() || edit()->text() != QLatin1String("bad"); }
    QString value() override { return edit() ? edit()->text() : QString(); }

  private:
    QLineEdit *edit() const { return qobject_cast<QLineEdit *>(widget()); }
};

class FakeMaker : public ETCustomerHandlerMaker
{
  public:
    QMap<QString, MadeHandler> made;

    std::unique_ptr<ETCustomerWidgetHandler> lineEdit(ETCustomer *customer, const QString &key,
                                                      QWidget *page) override
    {
        made[key] = {QStringLiteral("line"), {}, {}};
        return std::make_unique<FakeHandler>(customer, key, page);
    }
    std::unique_ptr<ETCustomerWidgetHandler> comboBox(ETCustomer *customer, const QString &key, QWidget *page,
                                                      const QStringList &items,
                                                      const QString &defaultText) override
    {
        made[key] = {QStringLiteral("combo"), items, defaultText};
        return std::make_unique<FakeHandler>(customer, key, page);
    }
    std::unique_ptr<ETCustomerWidgetHandler> validUntil(ETCustomer *customer, const QString &key,
                                                        QWidget *page) override
    {
        made[key] = {QStringLiteral("validuntil"), {}, {}};
        return std::make_unique<FakeHandler>(customer, key, page);
    }
};

class ETCustomerFormTest : public ::testing::Test
{
  protected:
    ETCustomerFormTest()
    {
        m_resources.write(QStringLiteral("customer.xml"),
                          "<config><customer><mustfield>lastname</mustfield><mustfield>zip</mustfield>"
                          "</customer><countries primaryCountry=\"FR\"/></config>");
        m_resources.write(QStringLiteral("countrylist.xml"),
                          "<reply><content><country><name>Deutschland</name><iso_code>DE</iso_code></country>"
                          "<country><name>Frankreich</name><iso_code>FR</iso_code></country>"
                          "</content></reply>");
        ETCustomer::setHandlerMaker(&m_maker);
        m_customer = std::make_unique<ETCustomer>();
        m_grid = new QGridLayout(&m_page);
    }
    ~ETCustomerFormTest() override { ETCustomer::setHandlerMaker(nullptr); }

    QLineEdit *edit(const char *key) { return m_page.findChild<QLineEdit *>(QLatin1String(key) + "Edit"); }

    ResourceFolder m_resources;
    FakeMaker m_maker;
    std::unique_ptr<ETCustomer> m_customer;
    QWidget m_page;
    QGridLayout *m_grid;
};

// The record picks the kind of editor by the exact key; the wizard makes it.
TEST_F(ETCustomerFormTest, KindOfEditorByKey)
{
    for (const char *key :
         {"salutation", "country", "cardtype", "validuntil", "lastname", "Country", "passwordCheck"})
        ETCustomer::createHandler(m_customer.get(), &m_page, QLatin1String(key));
    const struct {
        const char *key;
        const char *kind;
    } cases[] = {{"salutation", "combo"},      {"country", "combo"}, {"cardtype", "combo"},
                 {"validuntil", "validuntil"}, {"lastname", "line"}, {"Country", "line"},
                 {"passwordCheck", "line"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(QLatin1String(c.kind), m_maker.made.value(QLatin1String(c.key)).kind);
    }
    const MadeHandler salutation = m_maker.made.value(QStringLiteral("salutation"));
    EXPECT_EQ(ETCustomer::salutations(), salutation.items);
    EXPECT_TRUE(salutation.defaultText.isEmpty());
    const MadeHandler country = m_maker.made.value(QStringLiteral("country"));
    EXPECT_EQ(QStringList({QStringLiteral("Deutschland"), QStringLiteral("Frankreich")}), country.items);
    EXPECT_EQ(QStringLiteral("Frankreich"), country.defaultText) << "the primary country is preselected";
    EXPECT_TRUE(m_maker.made.value(QStringLiteral("cardtype")).items.isEmpty());
}

TEST_F(ETCustomerFormTest, FieldRowLabelEditorAndMustMark)
{
    m_customer->addField(&m_page, QStringLiteral("lastname"), nullptr, m_grid, 2, 1, false, true);
    m_customer->addField(&m_page, QStringLiteral("street"), nullptr, m_grid, 3, 1, true, true);
    m_customer->addField(&m_page, QStringLiteral("zip"), nullptr, m_grid, 4, 4, false, false);
    m_customer->addField(&m_page, QStringLiteral("nolabel"), nullptr, m_grid, 5, 1, false, true);

    const struct {
        const char *key;
        const char *label;
        int row, column, editorSpan;
        bool mark;
    } cases[] = {{"lastname", "Name", 2, 1, 1, true},
                 {"street", "Straße, Hausnummer", 3, 1, 2, false},
                 {"zip", "Postleitzahl", 4, 4, 1, false},
                 {"nolabel", "nolabel", 5, 1, 1, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        auto *label = m_page.findChild<QLabel *>(QLatin1String(c.key) + "Description");
        ASSERT_NE(nullptr, label);
        EXPECT_EQ(QString::fromUtf8(c.label), label->text());
        QLineEdit *editor = edit(c.key);
        ASSERT_NE(nullptr, editor);
        EXPECT_EQ(editor, label->buddy());
        EXPECT_EQ(label->text(), editor->accessibleName());
        int row, column, rowSpan, columnSpan;
        m_grid->getItemPosition(m_grid->indexOf(label), &row, &column, &rowSpan, &columnSpan);
        EXPECT_EQ(c.row, row);
        EXPECT_EQ(c.column, column);
        EXPECT_EQ(Qt::AlignRight, m_grid->itemAt(m_grid->indexOf(label))->alignment());
        m_grid->getItemPosition(m_grid->indexOf(editor), &row, &column, &rowSpan, &columnSpan);
        EXPECT_EQ(c.row, row);
        EXPECT_EQ(c.column + 1, column);
        EXPECT_EQ(c.editorSpan, columnSpan);
        QLayoutItem *mark = m_grid->itemAtPosition(c.row, c.column + 2);
        const bool marked = mark && mark->widget() && mark->widget() != editor &&
                            qobject_cast<QLabel *>(mark->widget())->text() == QLatin1String("*");
        EXPECT_EQ(c.mark, marked);
    }
}

TEST_F(ETCustomerFormTest, BulkOperationsOnTheRecordTheyAreCalledOn)
{
    for (const char *key : {"firstname", "lastname", "zip"})
        m_customer->addField(&m_page, QLatin1String(key), nullptr, m_grid, 0, 0, false, false);
    m_customer->setValue(QStringLiteral("firstname"), QStringLiteral("Ada"));
    m_customer->setValue(QStringLiteral("lastname"), QStringLiteral("Lovelace"));
    m_customer->setValue(QStringLiteral("city"), QStringLiteral("London"));

    m_customer->showAll(&m_page);
    EXPECT_EQ(QStringLiteral("Ada"), edit("firstname")->text());
    EXPECT_EQ(QStringLiteral("Lovelace"), edit("lastname")->text());
    EXPECT_TRUE(m_customer->allUnchanged(&m_page));
    EXPECT_TRUE(m_customer->checkAll(&m_page));

    edit("zip")->setText(QStringLiteral("bad"));
    EXPECT_FALSE(m_customer->allUnchanged(&m_page));
    EXPECT_FALSE(m_customer->checkAll(&m_page));
    edit("zip")->setText(QStringLiteral("12345"));
    edit("firstname")->clear();
    m_customer->writeBackAll(&m_page);
    EXPECT_EQ(QStringLiteral("12345"), m_customer->value(QStringLiteral("zip")));
    EXPECT_TRUE(m_customer->value(QStringLiteral("firstname")).isEmpty());
    EXPECT_EQ(QStringLiteral("London"), m_customer->value(QStringLiteral("city")))
        << "a field without editor is left as it was";
    EXPECT_TRUE(m_customer->allUnchanged(&m_page));
}

TEST_F(ETCustomerFormTest, NullPageAndNoMaker)
{
    m_customer->setValue(QStringLiteral("zip"), QStringLiteral("1"));
    m_customer->showAll(nullptr);
    m_customer->writeBackAll(nullptr);
    EXPECT_EQ(QStringLiteral("1"), m_customer->value(QStringLiteral("zip")));
    EXPECT_FALSE(m_customer->allUnchanged(nullptr));
    EXPECT_FALSE(m_customer->checkAll(nullptr));

    // Without the wizard's editors a form has labels only, and every field passes.
    ETCustomer::setHandlerMaker(nullptr);
    EXPECT_EQ(nullptr, ETCustomer::createHandler(m_customer.get(), &m_page, QStringLiteral("zip")));
    m_customer->addField(&m_page, QStringLiteral("zip"), nullptr, m_grid, 0, 0, false, true);
    EXPECT_NE(nullptr, m_page.findChild<QLabel *>(QStringLiteral("zipDescription")));
    EXPECT_EQ(nullptr, edit("zip"));
    EXPECT_TRUE(m_customer->checkAll(&m_page));
    EXPECT_TRUE(m_customer->allUnchanged(&m_page));
}

} // namespace
