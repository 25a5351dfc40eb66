#pragma once

// Codes the order server writes into the head of its reply (0: none): those
// the client acts on or tells apart, and those the order-server double
// answers with. The client's own codes start at 2000 (ETNetworkingError).
namespace ETServerCode
{
enum Code : int {
    ClientTooOld = 1,
    WrongLogin = 2,
    SessionUnknown = 27, // the server no longer knows the session it was sent
    UploadRestart = 32,  // stop the upload and start it again
    UploadStopped = 33,  // answer to a stop request; counts as success
    CouponNeedsLogin = 50,
    UploadComplete = 53, // every picture is received; counts as success
    AlreadyRegistered = 68,
    CouponInvalid = 70,
    CouponExpired = 71,
    CouponUsed = 72,
    WrongSecurityAnswer = 80,
    UnknownUser = 81,
    SoftwareUnknown = 85,
    TooManyPictures = 511,
    Maintenance = 999,
    ServerUnavailable = 1000, // the request cannot be answered now
    PicturesMissing = 1001,   // the order is finished before all its pictures arrived
    UploadUnknown = 1002,     // a picture posted under an upload id not handed out
    PictureDamaged = 1003     // a picture whose size or checksum is not the declared one
};
} // namespace ETServerCode
