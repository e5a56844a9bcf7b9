#pragma once

#include <exception>
#include <string>

// An error raised inside a handler. The dialog's event dispatch catches it, reports it in a
// message box with a stop icon and the program's name as caption, and the window goes on.
class CException : public std::exception {
public:
    // The text the report shows.
    virtual std::string GetErrorMessage() const = 0;

    const char* what() const noexcept override { return "CException"; }
};
