#include "views/main/ContentViewState.h"

ContentViewState::ContentViewState(QObject* parent) : QObject(parent) {}
