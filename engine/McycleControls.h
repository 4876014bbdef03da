// What the main panel's operation controls show of the link.
#pragma once

// Dims and undims the operation controls of the main panel as the link's
// state says: while the controller logs its communication (the queue's
// raw-text bit) all are dimmed but the logging menu item, the way to switch
// it off; otherwise all are undimmed, but the operations an identified Quill
// ram does not have. The logging menu item's check mark and the logging lamp
// follow. Called at every end of identification, every channel change or
// loss and every switch of the logging. Tick or GUI thread.
void McycleShowOperationControls();
