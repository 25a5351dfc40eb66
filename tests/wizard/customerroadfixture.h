#pragma once

#include "accessiblenames.h"
#include "etnetworkingerror.h"
#include "etorder.h"
#include "etservercode.h"
#include "etwizardscreen.h"
#include "submitmethod.h"
#include "wizardfixture.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

// The wizard as the client builds it, standing on the internet road's login
// page, with a customer the double knows: the world of the customer screens'
// tests. Fields are typed as a person types them.
class CustomerRoadFixture : public WizardFixture
{
  protected:
    static QString email() { return QStringLiteral("ada@example.org"); }
    static QString password() { return QStringLiteral("geheim1"); }

    // The address the double keeps for the known customer, by wire name.
    static QMap<QString, QString> address()
    {
        return {{QStringLiteral("salutation"), QStringLiteral("Frau")},
                {QStringLiteral("firstname"), QStringLiteral("Ada")},
                {QStringLiteral("lastname"), QStringLiteral("Lovelace")},
                {QStringLiteral("street"), QStringLiteral("Hauptstr. 1")},
                {QStringLiteral("zip"), QStringLiteral("50667")},
                {QStringLiteral("city"), QStringLiteral("Köln")},
                {QStringLiteral("country"), QStringLiteral("Deutschland")},
                {QStringLiteral("phone"), QStringLiteral("0221 123")}};
    }

    void addKnownCustomer()
    {
        server().addCustomer(email(), password(), QStringLiteral("Name des Hundes?"), QStringLiteral("Rex"),
                             address());
    }

    // Builds and shows the wizard and goes to the login page as the
    // net-or-CD page does when the internet is chosen.
    ::testing::AssertionResult startOnLogin()
    {
        buildWizard();
        showWizard();
        wizard()->setCDOrder(false);
        wizard()->setNetOrder(true);
        ETOrder::instance()->setSubmitMethod(SubmitNet);
        wizard()->showPage(pageOf(QStringLiteral("NetworkLoginScreen")));
        return waitForPage(QStringLiteral("NetworkLoginScreen"));
    }

    QWidget *pageOf(const QString &screen) const { return wizard()->screenByName(screen)->page(); }
    QWidget *currentPageWidget() const { return wizard()->currentPage(); }

    template <typename Widget> Widget *child(const QString &name) const
    {
        return currentPageWidget() ? currentPageWidget()->findChild<Widget *>(name) : nullptr;
    }
    QLineEdit *edit(const QString &name) const { return child<QLineEdit>(name); }

    // Empties the field and types the text into it.
    ::testing::AssertionResult type(const QString &name, const QString &text)
    {
        QLineEdit *field = edit(name);
        if (!field)
            return ::testing::AssertionFailure()
                   << "no field " << name.toStdString() << " on page " << currentPage().toStdString();
        if (!field->isEnabled())
            return ::testing::AssertionFailure() << "field " << name.toStdString() << " is disabled";
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        for (const QChar character : text) {
            if (character.unicode() < 0x80)
                QTest::keyClick(field, character.toLatin1());
            else // Typed with a key that has no ASCII name.
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(character), Qt::NoModifier);
        }
        if (field->text() != text)
            return ::testing::AssertionFailure()
                   << "field " << name.toStdString() << " took " << field->text().toStdString() << " of "
                   << text.toStdString();
        return ::testing::AssertionSuccess();
    }

    // On the login page: the registered customer's e-mail and password.
    ::testing::AssertionResult typeLogin(const QString &mail, const QString &secret)
    {
        ::testing::AssertionResult typed = type(QStringLiteral("emailEdit"), mail);
        if (typed)
            typed = type(QStringLiteral("PasswordEdit"), secret);
        return typed;
    }

    // Logs the known customer in and arrives on the address page.
    ::testing::AssertionResult logInToAddress()
    {
        addKnownCustomer();
        ::testing::AssertionResult result = startOnLogin();
        if (result)
            result = typeLogin(email(), password());
        if (result)
            result = pressNext();
        if (result)
            result = waitForPage(QStringLiteral("addressScreen"));
        return result;
    }

    // The requests from the first of that name on.
    QStringList requestsSince(const QString &first) const
    {
        const QStringList names = requestNames();
        const int from = int(names.indexOf(first));
        return from < 0 ? QStringList() : names.mid(from);
    }

    // The last request of that name as the double received it.
    ETOrderServerRequest lastRequest(const QString &name)
    {
        const QList<ETOrderServerRequest> requests = server().requests(name);
        return requests.isEmpty() ? ETOrderServerRequest() : requests.last();
    }
    // The last message box told of the code (its text ends with it).
    ::testing::AssertionResult lastBoxShows(int code)
    {
        if (presenter().requests().isEmpty())
            return ::testing::AssertionFailure() << "no box was shown";
        const QString text = presenter().last().box.text;
        if (!text.endsWith(QStringLiteral(" [%1]").arg(code)))
            return ::testing::AssertionFailure() << "the box said " << text.toStdString();
        return ::testing::AssertionSuccess();
    }

    // Controls on the page that a screen reader could not name.
    static QStringList unnamedControls(QWidget *page) { return ::unnamedControls(page); }
};
