// The framing of a fax job around the rendered document, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cups/fax_job_frame.h"

namespace {

// A document to read and an output to collect, as stdio streams.
struct Streams {
    explicit Streams(const std::string &document) : in(std::tmpfile()), out(std::tmpfile()) {
        std::fwrite(document.data(), 1, document.size(), in);
        std::rewind(in);
    }
    ~Streams() {
        std::fclose(in);
        std::fclose(out);
    }
    std::string Written() {
        std::rewind(out);
        std::string bytes;
        int c;
        while ((c = std::fgetc(out)) != EOF) bytes += static_cast<char>(c);
        return bytes;
    }
    std::FILE *in;
    std::FILE *out;
};

const std::string kPjlTicket = "@PJL COMMENT @@MJB=SRT\n@PJL COMMENT @@MJB=END\n";
const std::string kPsTicket = "%%   @@MJB=SRT\r\n%%   @@MJB=END\r\n";

TEST(PclFaxJob, TheTicketSitsInThePjlHeaderAndThePclBetweenUniversalExits) {
    std::string pcl = std::string("\x1b" "E\x1b*r1A\0\xff page\x0c\x1b" "E", 16);
    Streams s(pcl);
    std::string error;
    ASSERT_TRUE(WritePclFaxJob(kPjlTicket, s.in, s.out, error)) << error;
    EXPECT_EQ(s.Written(), "\x1b%-12345X@PJL JOB\n" + kPjlTicket + "@PJL ENTER LANGUAGE=PCL\n" + pcl +
                               "\x1b%-12345X@PJL EOJ\n\x1b%-12345X");
}

TEST(PostScriptFaxJob, TheTicketFollowsTheFirstLineWhateverItsLineEnd) {
    const struct {
        std::string document, first, rest;
    } cases[] = {
        {"%!PS-Adobe-3.0\n%%Pages: 1\nshowpage\n", "%!PS-Adobe-3.0\n", "%%Pages: 1\nshowpage\n"},
        {"%!PS-Adobe-3.0\r\n%%EOF\r\n", "%!PS-Adobe-3.0\r\n", "%%EOF\r\n"},
        {"%!PS\rshowpage\r", "%!PS\r", "showpage\r"},
        // One line, no line end: the ticket still starts a line.
        {"%!PS", "%!PS\n", ""},
    };
    for (const auto &c : cases) {
        Streams s(c.document);
        std::string error;
        ASSERT_TRUE(WritePostScriptFaxJob(kPsTicket, s.in, s.out, error)) << error;
        EXPECT_EQ(s.Written(), c.first + kPsTicket + c.rest);
    }
    // A document of more than one block reaches the end whole.
    std::string big = "%!PS-Adobe-3.0\n" + std::string(200000, 'x') + "\n";
    Streams s(big);
    std::string error;
    ASSERT_TRUE(WritePostScriptFaxJob(kPsTicket, s.in, s.out, error));
    EXPECT_EQ(s.Written(), "%!PS-Adobe-3.0\n" + kPsTicket + big.substr(15));
}

TEST(PostScriptFaxJob, WhatIsNoPostScriptIsRefusedAndNothingIsWritten) {
    const struct {
        std::string document, said;
    } cases[] = {
        {"", "the document is empty"},
        {"\x1b" "E PCL", "not PostScript"},
        {"%PDF-1.7\n", "not PostScript"},
        {"%!" + std::string(5000, 'a') + "\n", "longer than 4096 bytes"},
    };
    for (const auto &c : cases) {
        Streams s(c.document);
        std::string error;
        EXPECT_FALSE(WritePostScriptFaxJob(kPsTicket, s.in, s.out, error));
        EXPECT_NE(error.find(c.said), std::string::npos) << error;
        EXPECT_EQ(s.Written(), "");
    }
}

}  // namespace
