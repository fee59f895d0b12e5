#pragma once
// The HTTP client port over libcurl.
#include <memory>

#include "platform/http_client.h"

namespace brimvex::platform::curl {

std::unique_ptr<HttpClient> CreateCurlHttpClient(HttpSettings settings = {});

}  // namespace brimvex::platform::curl
