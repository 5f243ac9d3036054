#pragma once

#include "platform/rtf/reader/Reader.h"

#include <memory>

namespace RtfRead {

// Character and paragraph formatting, paragraph and page breaks, special characters and \u.
std::unique_ptr<Handler> makeFormattingHandler(Reader &reader);

} // namespace RtfRead
