#pragma once

/// Makes the scenes that hold the picture's images, at the start of the run.
/// On this virtual machine memory the process has just been given can stay
/// slow for several seconds whether used or not (its host seems to back it
/// with small pages at first): made first, the images are old by the time
/// they are measured.
void makeWindowScenes();
