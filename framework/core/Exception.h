#pragma once
// The error the file system and registry layers raise, with its message as the system's text.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::u16string AMessage);
    const std::u16string& Message() const { return FMessage; }
    // The message in UTF-8.
    const char* what() const noexcept override { return FWhat.c_str(); }

private:
    std::u16string FMessage;
    std::string FWhat;
};
