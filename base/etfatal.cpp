#include "etfatal.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

void fatalExit(const QString &message)
{
    qCritical("%s", qUtf8Printable(message));
    std::fflush(nullptr);
    // _Exit: the GUI objects and singletons are still alive; running static
    // destructors behind their back is what would crash here.
    std::_Exit(EXIT_FAILURE);
}
