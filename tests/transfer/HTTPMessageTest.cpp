#include "transfer/DDData.h"
#include "transfer/HTTPMessage.h"

#include <gtest/gtest.h>

namespace {

TEST(HTTPMessage, AssemblesARequestLineByLineUntilTheEmptyLine)
{
    HTTPMessage request = HTTPMessage::emptyRequest();
    EXPECT_TRUE(request.appendBytes("GET /a%20b?x=1 HTTP/1.1\r\n"));
    EXPECT_TRUE(request.appendBytes("Host: example\r\n"));
    EXPECT_TRUE(request.appendBytes("X-Long: one\r\n"));
    EXPECT_TRUE(request.appendBytes("\t two\r\n"));
    EXPECT_FALSE(request.isHeaderComplete());
    EXPECT_TRUE(request.appendBytes("\r\n"));
    EXPECT_TRUE(request.isHeaderComplete());
    EXPECT_EQ(request.method(), "GET");
    EXPECT_EQ(request.url(), "/a%20b?x=1");
    EXPECT_EQ(request.version(), "HTTP/1.1");
    EXPECT_EQ(request.headerField("host"), "example");
    EXPECT_EQ(request.headerField("HOST"), "example");
    EXPECT_EQ(request.headerField("x-long"), "one two");
    EXPECT_FALSE(request.hasHeaderField("Content-Length"));
}

TEST(HTTPMessage, RefusesLinesThatAreNeitherARequestLineNorAHeaderField)
{
    for (const QByteArray &bad :
         {QByteArray("GET /\r\n"), QByteArray("GET / HTTP/1.1 extra\r\n"), QByteArray("G(T / HTTP/1.1\r\n"),
          QByteArray("GET / HTTX/1.1\r\n"), QByteArray("GET /\x01 HTTP/1.1\r\n")}) {
        HTTPMessage request = HTTPMessage::emptyRequest();
        EXPECT_FALSE(request.appendBytes(bad)) << bad.constData();
    }
    for (const QByteArray &bad :
         {QByteArray("no colon here\r\n"), QByteArray(": empty name\r\n"), QByteArray("Bad Name: x\r\n")}) {
        HTTPMessage request = HTTPMessage::emptyRequest();
        ASSERT_TRUE(request.appendBytes("GET / HTTP/1.1\r\n"));
        EXPECT_FALSE(request.appendBytes(bad)) << bad.constData();
        EXPECT_FALSE(request.appendBytes("Host: x\r\n")); // refused stays refused
    }
}

TEST(HTTPMessage, SerialisesResponsesWithHTTP11StatusLines)
{
    HTTPMessage response = HTTPMessage::response(206, "HTTP/1.0");
    response.setHeaderField("Content-Length", "3");
    response.setHeaderField("content-length", "4");
    response.setBody("abcd");
    EXPECT_EQ(response.serialized(), "HTTP/1.1 206 Partial Content\r\nContent-Length: 4\r\n\r\nabcd");
}

TEST(DDData, DigestsBase64AndStrictNumbers)
{
    EXPECT_EQ(DDData::hexStringValue(DDData::md5Digest("abc")), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(DDData::hexStringValue(DDData::sha1Digest("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(DDData::base64Encoded("user:pass"), "dXNlcjpwYXNz");
    EXPECT_EQ(DDData::base64Decoded("dXNl\ncjpw!YXNz==junk"), "user:pass");
    quint64 value = 0;
    EXPECT_TRUE(DDData::parseStringIntoUInt64(" 42abc", &value));
    EXPECT_EQ(value, 42u);
    EXPECT_FALSE(DDData::parseStringIntoUInt64("abc", &value));
    EXPECT_FALSE(DDData::parseStringIntoUInt64("-1", &value));
    EXPECT_FALSE(DDData::parseStringIntoUInt64("99999999999999999999999", &value));
    qint64 signedValue = 0;
    EXPECT_TRUE(DDData::parseStringIntoSInt64("-7", &signedValue));
    EXPECT_EQ(signedValue, -7);
}

} // namespace
