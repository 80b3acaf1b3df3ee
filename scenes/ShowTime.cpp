// The clock globals and the accent table.
#include "scenes/ShowTime.h"

float demoMS = 0;
float demoTime = 0;
float skip = 0;

const int syncs[41] = {
    6000,   9000,   12000,  15000,  20800,  23800,  26700,  30000,  31600,  32800,  34600,
    35900,  38800,  41900,  44800,  48000,  50700,  54000,  56700,  60000,  62700,  65800,
    68700,  72000,  72450,  72900,  73300,  73800,  74500,  99000,  101900, 104800, 107800,
    123000, 125800, 129000, 131800, 135000, 137800, 141000, 143800,
};
int syncCount = 41;

int getSync() {
    for (int i = syncCount - 1; i >= 0; i--) {
        if (demoMS > float(syncs[i])) return i;
    }
    return 0;
}

float getSyncFloat() {
    float d = float(syncs[getSync()]) - demoMS;
    if (d > -500.0f && d < 0.0f) return (d + 500.0f) / 500.0f;
    return 0.0f;
}
