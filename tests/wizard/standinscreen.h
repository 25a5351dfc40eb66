#pragma once

#include "etorderwizard.h"
#include "etwizardscreen.h"

#include <QWidget>

#include <functional>

// A screen of the test's own: it answers the wizard as told and counts what
// the wizard asked of it.
class StandInScreen : public ETWizardScreen
{
  public:
    StandInScreen(const QString &name, ETOrderWizard *wizard) : ETWizardScreen(name, wizard)
    {
        auto *page = new QWidget;
        page->setObjectName(name);
        setPage(page);
        setTitle(QStringLiteral("<qt><b>") + name + QStringLiteral("</b></qt>"));
    }

    bool checkAnswer = true;
    bool nextAnswer = true;
    bool backAnswer = true;
    bool showAnswer = true;
    bool appropriateAnswer = true;
    bool runAnswer = false;
    QString runTarget; // named as the wizard's next screen while the step runs
    std::function<void()> onNext;
    std::function<void()> onCancel;

    int nexts = 0;
    int backs = 0;
    int shows = 0;
    int runs = 0;
    int cancels = 0;

    bool check() override { return checkAnswer; }
    bool atNext() override
    {
        ++nexts;
        if (onNext)
            onNext();
        return nextAnswer;
    }
    bool atBack() override
    {
        ++backs;
        return backAnswer;
    }
    bool atShow() override
    {
        ++shows;
        return showAnswer;
    }
    bool appropriate() override { return appropriateAnswer; }
    bool run() override
    {
        ++runs;
        if (!runTarget.isEmpty())
            wizard()->setNextScreen(runTarget);
        return runAnswer;
    }
    void cancel() override
    {
        ++cancels;
        if (onCancel)
            onCancel();
    }
};
