#include "app/Application.h"

int main() { return App::run(App::programSteps()); }
