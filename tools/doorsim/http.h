// The small part of HTTP/1.x the simulator speaks: request lines, queries, plain responses.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace doorsim {

// Percent- and '+'-decoding of a query value; a malformed escape is kept as it is.
std::string UrlDecode(std::string_view text);

struct QueryParams {
  std::vector<std::pair<std::string, std::string>> items;
  const std::string* Find(std::string_view key) const;
};
QueryParams ParseQuery(std::string_view query);

struct Request {
  std::string method;
  std::string path;   // without the query
  std::string query;  // after '?', still encoded
  std::string userAgent;
};

// Parses the request head (everything up to the empty line); nullopt when it is not a request.
std::optional<Request> ParseRequest(std::string_view head);

// A complete response with a text body and Connection: close.
std::string TextResponse(int status, std::string_view contentType, std::string_view body);

}  // namespace doorsim
