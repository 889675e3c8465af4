#pragma once

namespace vocanta {

class BatchList;
class IniFile;

// The "BatchSteps" section: one entry per batch, name = number of steps.
void write_batch_steps(const BatchList& batches, IniFile& ini);
void read_batch_steps(BatchList& batches, const IniFile& ini);

}  // namespace vocanta
