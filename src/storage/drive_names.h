#pragma once

#include <string>

// Display names of drives: the rule chain that turns a reported model and vendor into what a
// person calls the drive.
void guess_vendor_and_model(std::string& model, std::string& vendor);
