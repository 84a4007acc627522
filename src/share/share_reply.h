#pragma once

#include <string>

// Whether the server took the share. A report share is accepted by a reply that begins with
// "OK"; a screenshot share needs "OK\r\nhttps://", and its link is the reply from the fifth byte
// on, without trailing line ends. A link with a blank or a control character inside is refused:
// it goes to the shell as it stands.
bool accept_share_reply(bool screenshot, const std::string& reply, std::string* link);
