#include "multipartbody.h"

#include <gtest/gtest.h>

namespace
{

TEST(MultipartBody, HeadAndTailByteForByte)
{
    EXPECT_EQ("-----------------------------119281817426312\n"
              "Content-Disposition: form-data; name=\"File\"; filename=\"crm.zip\"\n"
              "Content-Type: application/octet-stream\n"
              "Content-Length: 1000\n"
              "\n\n",
              MultipartBody::head(1000));
    EXPECT_EQ("\n\n-----------------------------119281817426312--\n", MultipartBody::tail());
    EXPECT_EQ(49u, MultipartBody::tail().size());
}

struct LengthCase {
    uint64_t archive;
    uint64_t head;
    uint64_t total;
};

TEST(MultipartBody, LengthsGrowWithTheDigitsOfTheSize)
{
    const LengthCase cases[] = {
        {0, 168, 217}, {9, 168, 226}, {10, 169, 228}, {1000, 171, 1220}, {1048576, 174, 1048799},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.archive);
        EXPECT_EQ(c.head, MultipartBody::head(c.archive).size());
        EXPECT_EQ(c.total, MultipartBody::contentLength(c.archive));
        EXPECT_EQ("Content-Length: " + std::to_string(c.total),
                  MultipartBody::contentLengthHeader(c.archive));
    }
}

TEST(MultipartBody, HeaderBoundaryHasTwoDashesLessThanTheDelimiter)
{
    EXPECT_EQ("Content-Type: multipart/form-data; boundary=---------------------------119281817426312",
              MultipartBody::contentTypeHeader());
    EXPECT_EQ(0u, MultipartBody::head(1).find(std::string("--") + MultipartBody::kBoundary + "\n"));
}

} // namespace
