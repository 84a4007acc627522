#pragma once

#include <cstdint>
#include <string>

// The scripted responder that CTest starts for these tests (responder.py): its folder comes in
// FOLVI_TEST_RESPONDER_DIR as a Unix path.
std::string responder_folder();
uint16_t responder_port();
// The bytes the responder kept for a request (TAG.head or TAG.body); empty when there is none.
std::string responder_record(const std::string& name);
