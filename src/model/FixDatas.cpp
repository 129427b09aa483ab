#include "FixDatas.h"

TFixture &CurrentFixture()
{
    static TFixture fixture;
    return fixture;
}
