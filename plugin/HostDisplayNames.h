#pragma once
// The name the About box shows for a host code; "Unknown" outside 1..67.
const char* HostDisplayName(int hostCode);
