// Runs a Logger into a fresh temporary folder and reads back the message
// column of every row once the Logger is gone (its destructor writes all
// queued rows). Tests that need rows skip while the Logger keeps no file.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Logger.h"
#include "tests/support/TempFolder.h"

class LogCapture {
public:
    LogCapture() : logger_(std::make_unique<Logger>(folder_.Path() + "/", ".log")) {}
    ~LogCapture() { logger_.reset(); }

    Logger& logger() { return *logger_; }

    // Ends the Logger and returns {frame counter, message} of every row; false
    // when the Logger wrote no file.
    bool Finish(std::vector<std::pair<unsigned, std::string>>& rows) {
        logger_.reset();
        std::ifstream in(folder_.Path() + "/Application.log", std::ios::binary);
        if (!in) return false;
        std::string line;
        while (std::getline(in, line)) {
            std::vector<std::string> fields;
            std::size_t start = 0;
            for (int i = 0; i < 5; ++i) {
                const std::size_t tab = line.find('\t', start);
                if (tab == std::string::npos) break;
                fields.push_back(line.substr(start, tab - start));
                start = tab + 1;
            }
            if (fields.size() != 5 || fields[4] != "Application") continue;
            rows.emplace_back(static_cast<unsigned>(std::stoul(fields[0])), line.substr(start));
        }
        return true;
    }

    // Only the message column.
    bool FinishMessages(std::vector<std::string>& messages) {
        std::vector<std::pair<unsigned, std::string>> rows;
        if (!Finish(rows)) return false;
        for (auto& row : rows) messages.push_back(row.second);
        return true;
    }

    // The message column of every row so far (the log ends here).
    std::vector<std::string> Messages() {
        std::vector<std::string> messages;
        FinishMessages(messages);
        return messages;
    }

    // Ends the Logger and returns the size of the file it wrote (0: none).
    std::uintmax_t FileBytes() {
        logger_.reset();
        std::error_code error;
        const std::uintmax_t bytes = std::filesystem::file_size(folder_.Path() + "/Application.log", error);
        return error ? 0 : bytes;
    }

    static size_t CountContaining(const std::vector<std::string>& rows, const std::string& text) {
        size_t count = 0;
        for (const std::string& row : rows) count += row.find(text) != std::string::npos;
        return count;
    }

private:
    TempFolder folder_{"ddlog"};
    std::unique_ptr<Logger> logger_;
};

// A fixture's log, as a base listed before the services, so it outlives
// everything that writes rows.
struct WithLog {
    LogCapture log;
};

#define FINISH_OR_SKIP(capture, out)                                                 \
    do {                                                                             \
        if (!(capture).Finish(out)) GTEST_SKIP() << "the Logger writes no file yet"; \
    } while (0)
#define FINISH_MESSAGES_OR_SKIP(capture, out)                                                \
    do {                                                                                     \
        if (!(capture).FinishMessages(out)) GTEST_SKIP() << "the Logger writes no file yet"; \
    } while (0)
