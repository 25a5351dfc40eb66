#include "etprogramstarthandler.h"

ETProgramStartHandler::ETProgramStartHandler(QObject *parent) : QObject(parent) {}

void ETProgramStartHandler::handleStart() {}
