#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velmora::testing {

// Sends every log file into a fresh temporary folder for the test's lifetime and reads
// back what the skin engine wrote.
class TSkinLogCapture {
public:
    TSkinLogCapture();
    ~TSkinLogCapture();
    QStringList Lines() const;

private:
    QTemporaryDir FFolder;
};

// Tests that draw: the application exists and the skin log is captured.
class SkinTest : public ::testing::Test {
protected:
    void SetUp() override;
    TSkinLogCapture* Log() { return FLog.get(); }

private:
    std::unique_ptr<TSkinLogCapture> FLog;
};

} // namespace velmora::testing
