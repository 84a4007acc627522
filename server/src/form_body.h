// A whole multipart/form-data body split into the parts of an upload_form. Both layouts are
// taken: the standard one (one boundary line between parts, closing "--" delimiter) and the
// FOLVI client's (every part opens with its own boundary line and closes with CR LF, the
// boundary line and CR LF, so two boundary lines stand together, and there is no "--" end).
#pragma once
#include <string>
#include <string_view>

#include "upload_form.h"

// The boundary parameter of a multipart/form-data content type, or empty.
std::string form_boundary(std::string_view content_type);

// False with form.error() set (or `error` for a malformed layout) when the body is refused.
bool read_form_body(std::string_view body, std::string_view boundary, upload_form& form, std::string& error);
