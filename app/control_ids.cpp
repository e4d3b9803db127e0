#include "app/control_ids.h"

int IndexOfId(const int* table, int count, int id)
{
    for (int i = 0; i < count; ++i)
        if (table[i] == id) return i;
    return -1;
}
