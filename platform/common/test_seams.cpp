// test_seams.cpp: the one instance of the platform's test seams.
#include "common/test_seams.h"

TestSeams& testSeams()
{
    static TestSeams seams;
    return seams;
}
