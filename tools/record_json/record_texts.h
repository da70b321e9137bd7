// The record's texts as JSON strings (UTF-8) and back: the 8-bit comparison
// texts, the UTF-16 big-endian wait message, raw bytes as hex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// An 8-bit text field: Latin-1 characters up to the first zero byte, at most
// SAVE_COMPARE_TEXT_SIZE.
std::string compare_text_json(const char* field);

// The stored half of a wait message (SAVE_WAIT_MESSAGE_SIZE bytes) up to the
// first zero unit; a lone surrogate (a pair cut by the end) shows as U+FFFD.
std::string wait_message_json(const std::uint8_t* field);

std::string to_hex(const std::uint8_t* bytes, std::size_t size);

// The code points of a JSON string; refused unless strict UTF-8 without U+0000.
std::vector<char32_t> code_points(const nlohmann::json& v, const std::string& key);

// Fills an 8-bit text field of SAVE_COMPARE_TEXT_SIZE characters, zero-padded;
// refused if the text is longer or has characters above U+00FF.
void write_compare_text(char* field, const std::vector<char32_t>& text, const std::string& key);

// Fills the stored half of a wait message (SAVE_WAIT_MESSAGE_SIZE bytes),
// zero-padded; refused if the text needs more UTF-16 units.
void write_wait_message(std::uint8_t* field, const std::vector<char32_t>& text,
                        const std::string& key);

// Fills `size` bytes from a string of 2 * size hex digits.
void write_hex(std::uint8_t* field, const nlohmann::json& v, const std::string& key,
               std::size_t size);
