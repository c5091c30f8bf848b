#include "core/Singleton.h"

#include <string>

#include "core/Assert.h"

void MissingService(std::string_view name) {
    const std::string text = "the service " + std::string(name) +
                             " is missing: it is used before the program made it or after it was destroyed";
    StopWithMessage(text.c_str());
}
