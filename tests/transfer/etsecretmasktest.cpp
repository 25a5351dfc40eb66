#include "etsecretmask.h"

#include "qtprinters.h"

#include <gtest/gtest.h>

namespace
{

TEST(MaskSecrets, HidesEverySecretByWireNameAndRecordKey)
{
    const char *const secrets[] = {"pwd",        "password",           "cc_number",
                                   "cardnumber", "cc_validation_code", "cardvalidationcode",
                                   "sec_answer", "securityA",          "debit_account_number",
                                   "account",    "debit_bankcode",     "bankleitzahl"};
    for (const char *name : secrets) {
        SCOPED_TRACE(name);
        const QString element = QString::fromLatin1(name);
        const QString text = QStringLiteral("<r><%1>Geheim 1234</%1><login>a@b.de</login></r>").arg(element);
        EXPECT_EQ(QStringLiteral("<r><%1>****</%1><login>a@b.de</login></r>").arg(element),
                  maskSecrets(text));
    }
}

TEST(MaskSecrets, LeavesOtherElementsAndEmptySecretsAlone)
{
    const QString text =
        QStringLiteral("<r><sec_question>Hund?</sec_question><debit_bankname>Bank</debit_bankname>"
                       "<debit_holder>Anna</debit_holder><accountowner>Anna</accountowner>"
                       "<pwd></pwd><accounts>3</accounts></r>");
    EXPECT_EQ(text, maskSecrets(text));
}

} // namespace
