#include "app/Form1.h"

void Form1::SetOutputLevel(int, qint16) {}
void Form1::SetEqRange(int) {}
