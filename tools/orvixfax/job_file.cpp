#include "orvixfax/job_file.h"

#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "common/text_field.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/code_page.h"

namespace {

using nlohmann::json;

// A fault found in the job file; the message names the key and the limit.
struct JobError {
    std::string message;
};

// The job's UTF-8 texts in the module's code page, for the job being read.
thread_local const CodePage *jobCodePage = nullptr;

std::string ToBytes(const std::string &key, const std::string &text) {
    std::string bytes;
    TextFault fault;
    if (!jobCodePage->FromUtf8(text, bytes, fault))
        throw JobError{UnmappableMessage(key, fault, jobCodePage->Number())};
    // A zero byte would end the field early and hide the rest of the text.
    if (bytes.find('\0') != std::string::npos)
        throw JobError{key + ": character U+0000 is not allowed (texts are zero-terminated)"};
    return bytes;
}

void ReadText(const std::string &key, const json &value, char *field, size_t fieldSize) {
    if (!value.is_string()) throw JobError{key + ": must be a string"};
    std::string bytes = ToBytes(key, value.get<std::string>());
    if (bytes.size() > fieldSize - 1)
        throw JobError{key + ": text of " + std::to_string(bytes.size()) +
                       " characters is longer than the limit of " +
                       std::to_string(fieldSize - 1) + " characters"};
    CopyFieldN(field, fieldSize, bytes.c_str(), bytes.size());
}

template <size_t N>
void ReadText(const std::string &key, const json &value, char (&field)[N]) {
    ReadText(key, value, field, N);
}

// A whole number from 0 to `maximum`; true and false count as 1 and 0.
uint64_t ReadNumber(const std::string &key, const json &value, uint64_t maximum) {
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    if (!value.is_number_unsigned() && !(value.is_number_integer() && value.get<int64_t>() >= 0))
        throw JobError{key + ": must be a whole number from 0 to " + std::to_string(maximum)};
    uint64_t number = value.get<uint64_t>();
    if (number > maximum)
        throw JobError{key + ": " + std::to_string(number) + " is above the limit of " +
                       std::to_string(maximum)};
    return number;
}

void ReadRecipient(size_t index, const json &value, RecipientEntry *slot) {
    std::string where = "recipients[" + std::to_string(index) + "]";
    if (!value.is_object())
        throw JobError{where + ": must be an object with name, faxNumber and company"};
    for (const auto &[key, field] : value.items()) {
        std::string name = where + "." + key;
        if (key == "name") ReadText(name, field, slot->name);
        else if (key == "faxNumber") ReadText(name, field, slot->faxNumber);
        else if (key == "company") ReadText(name, field, slot->company);
        else throw JobError{name + ": unknown key (a recipient has name, faxNumber, company)"};
    }
}

void ReadJob(const json &job, FaxInfo *info) {
    if (!job.is_object()) throw JobError{"the job file must hold one JSON object"};
    const uint64_t u32 = std::numeric_limits<uint32_t>::max();
    info->status = 1;
    for (const auto &[key, value] : job.items()) {
        if (key == "status") info->status = static_cast<uint32_t>(ReadNumber(key, value, u32));
        else if (key == "coverSheet")
            info->coverSheet = static_cast<uint16_t>(ReadNumber(key, value, 0xFFFF));
        else if (key == "resolution")
            info->resolution = static_cast<uint32_t>(ReadNumber(key, value, u32));
        else if (key == "senderName") ReadText(key, value, info->senderName);
        else if (key == "senderFaxNumber") ReadText(key, value, info->senderFaxNumber);
        else if (key == "senderHomeNumber") ReadText(key, value, info->senderHomeNumber);
        else if (key == "senderBusinessNumber") ReadText(key, value, info->senderBusinessNumber);
        else if (key == "recipientNames") ReadText(key, value, info->recipientNames);
        else if (key == "recipientFaxNumber") ReadText(key, value, info->recipientFaxNumber);
        else if (key == "recipientCompany") ReadText(key, value, info->recipientCompany);
        else if (key == "includeRecipName")
            info->includeRecipName = static_cast<uint32_t>(ReadNumber(key, value, u32));
        else if (key == "includeRecipNumber")
            info->includeRecipNumber = static_cast<uint32_t>(ReadNumber(key, value, u32));
        else if (key == "includeRecipCompany")
            info->includeRecipCompany = static_cast<uint32_t>(ReadNumber(key, value, u32));
        else if (key == "noteLines") {
            if (!value.is_array()) throw JobError{"noteLines: must be an array of strings"};
            if (value.size() > 10)
                throw JobError{"noteLines: " + std::to_string(value.size()) +
                               " lines are more than the limit of 10"};
            for (size_t i = 0; i < value.size(); ++i)
                ReadText("noteLines[" + std::to_string(i) + "]", value[i], info->noteLines[i]);
        } else if (key == "recipients") {
            if (!value.is_array()) throw JobError{"recipients: must be an array of objects"};
            if (value.size() > FAX_MAX_RECIPIENTS)
                throw JobError{"recipients: " + std::to_string(value.size()) +
                               " recipients are more than the limit of " +
                               std::to_string(FAX_MAX_RECIPIENTS)};
            for (size_t i = 0; i < value.size(); ++i)
                ReadRecipient(i, value[i], &info->recipients[i]);
            info->recipientCount = static_cast<int32_t>(value.size());
        } else {
            throw JobError{key + ": unknown key (a job has status, coverSheet, resolution, "
                           "senderName, senderFaxNumber, senderHomeNumber, senderBusinessNumber, "
                           "recipientNames, recipientFaxNumber, recipientCompany, "
                           "includeRecipName, includeRecipNumber, includeRecipCompany, "
                           "noteLines, recipients)"};
        }
    }
}

}  // namespace

bool ReadJobText(const std::string &text, FaxInfo *info, std::string &error, const CodePage &codePage) {
    jobCodePage = &codePage;
    try {
        ReadJob(json::parse(text), info);
        return true;
    } catch (const json::exception &fault) {
        error = std::string("malformed JSON: ") + fault.what();
    } catch (const JobError &fault) {
        error = fault.message;
    }
    return false;
}

bool ReadJobText(const std::string &text, FaxInfo *info, std::string &error) {
    CodePage windows1252;
    if (!windows1252.Open(1252, error)) return false;
    return ReadJobText(text, info, error, windows1252);
}

bool ReadJobFile(const std::string &path, FaxInfo *info, std::string &error, const CodePage &codePage) {
    std::string text, name;
    if (!ReadInput(path, text, name, error)) {
        error = "cannot read the job file " + error;
        return false;
    }
    if (!ReadJobText(text, info, error, codePage)) {
        error = name + ": " + error;
        return false;
    }
    return true;
}
