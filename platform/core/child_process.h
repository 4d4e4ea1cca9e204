// Programs started beside this one (the desktop's volume control): found along PATH, never waited for,
// ended on request.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A started program. Its pid is not reaped until EndProgram, so that the number cannot go to another
// process while the record still names it; one that exits by itself stays a zombie until then.
struct ChildProgram {
  pid_t pid = -1;  // -1: none
};

// Starts `name`, looked up along PATH without a shell, with argv = name followed by args, in this
// process's environment and current folder, with only stdin, stdout and stderr open and the signals
// at their defaults. Returns 0 and fills *child, or the error number why it could not be started
// (ENOENT when no such program is on PATH); *child is then left as it was.
int StartProgram(const std::string& name, const std::vector<std::string>& args, ChildProgram* child);

// Asks the child to end (SIGTERM), gives it about a second, then kills it (SIGKILL); reaped either
// way. One that had ended by itself is only reaped. Afterwards child->pid is -1. No-op for none.
void EndProgram(ChildProgram* child);
