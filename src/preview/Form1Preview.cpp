#include "app/Form1.h"

void Form1::SoundPreviewing(qint16) {}
void Form1::objDOS_ReceiveOutputs(QString &) {}
