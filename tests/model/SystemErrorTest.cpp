#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "SystemError.h"

using namespace vantor;

TEST(SystemError, RareReasonsKeepTheSystemText) {
    for (int errnum : {ELOOP, ENAMETOOLONG, EXDEV, 99999}) EXPECT_EQ(SystemErrorText(errnum), std::strerror(errnum));
}
