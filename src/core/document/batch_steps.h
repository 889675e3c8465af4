#pragma once

#include <cstdint>
#include <string_view>

namespace vocanta {

class BatchList;
class IniFile;

// The "BatchSteps" section: one entry per batch, name = number of steps.
void write_batch_steps(const BatchList& batches, IniFile& ini);
void read_batch_steps(BatchList& batches, const IniFile& ini);

// get_batch for a name read from the entry `key` of `section`: a refusal names the entry.
int16_t get_document_batch(BatchList& batches, std::string_view name, std::string_view section,
                           std::string_view key);

}  // namespace vocanta
