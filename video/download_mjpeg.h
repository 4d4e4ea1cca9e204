// The video reader: the body of the video thread.
#pragma once

// Reads the door unit's picture stream until it fails or is asked to stop (ShowData.Kill_TCP).
void DownloadMJPEG();
