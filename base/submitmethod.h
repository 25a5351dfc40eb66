#pragma once

// How an order leaves the client.
enum SubmitMethod : int { SubmitNet = 0, SubmitCD = 1, SubmitHardDisk = 2 };
