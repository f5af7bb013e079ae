#include "cups/fax_job_frame.h"

#include <cerrno>
#include <cstring>

namespace {

const char kUniversalExit[] = "\x1b%-12345X";

bool Put(const std::string &bytes, std::FILE *out) {
    return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
}

// The rest of `document` to `out`.
bool CopyRest(std::FILE *document, std::FILE *out, std::string &error) {
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, document)) > 0) {
        if (std::fwrite(block, 1, got, out) != got) {
            error = std::string("the fax job cannot be written: ") + std::strerror(errno);
            return false;
        }
    }
    if (std::ferror(document)) {
        error = std::string("the document cannot be read: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool Finish(std::FILE *out, std::string &error) {
    if (std::fflush(out) == 0 && !std::ferror(out)) return true;
    error = std::string("the fax job cannot be written: ") + std::strerror(errno);
    return false;
}

}  // namespace

bool WritePclFaxJob(const std::string &ticket, std::FILE *document, std::FILE *out, std::string &error) {
    std::string head = std::string(kUniversalExit) + "@PJL JOB\n" + ticket + "@PJL ENTER LANGUAGE=PCL\n";
    if (!Put(head, out)) {
        error = std::string("the fax job cannot be written: ") + std::strerror(errno);
        return false;
    }
    if (!CopyRest(document, out, error)) return false;
    std::string tail = std::string(kUniversalExit) + "@PJL EOJ\n" + kUniversalExit;
    if (!Put(tail, out)) {
        error = std::string("the fax job cannot be written: ") + std::strerror(errno);
        return false;
    }
    return Finish(out, error);
}

bool WritePostScriptFaxJob(const std::string &ticket, std::FILE *document, std::FILE *out, std::string &error) {
    // The first line, with its end: LF, CR LF or a lone CR.
    const size_t longest = 4096;
    std::string first;
    int c;
    while (first.size() < longest && (c = std::fgetc(document)) != EOF) {
        first += static_cast<char>(c);
        if (c == '\n') break;
        if (c == '\r') {
            int next = std::fgetc(document);
            if (next == '\n') {
                first += '\n';
            } else if (next != EOF) {
                std::ungetc(next, document);
            }
            break;
        }
    }
    if (std::ferror(document)) {
        error = std::string("the document cannot be read: ") + std::strerror(errno);
        return false;
    }
    if (first.compare(0, 2, "%!") != 0) {
        error = first.empty() ? "the document is empty: there is nothing to fax"
                              : "the document is not PostScript (it does not start with %!)";
        return false;
    }
    char last = first.back();
    if (last != '\n' && last != '\r') {
        if (first.size() >= longest) {
            error = "the document's first line is longer than 4096 bytes: it is not PostScript";
            return false;
        }
        // A document of one line: the ticket still goes on a line of its own.
        first += '\n';
    }
    if (!Put(first, out) || !Put(ticket, out)) {
        error = std::string("the fax job cannot be written: ") + std::strerror(errno);
        return false;
    }
    return CopyRest(document, out, error) && Finish(out, error);
}
