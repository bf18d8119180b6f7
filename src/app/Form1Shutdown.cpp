#include "app/Form1.h"

void Form1::CleanUnload() {}
