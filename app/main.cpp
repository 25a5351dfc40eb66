#include "etstartup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // Lives until the process ends. It takes its own options out of argc and
    // argv, so both are the application's from here on.
    new QApplication(argc, argv);
    return startClient(argc, argv);
}
