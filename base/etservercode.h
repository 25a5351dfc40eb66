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
    PictureDamaged = 1003,    // a picture whose size or checksum is not the declared one

    // Codes the client tells apart only by how it treats them (the class of
    // error it shows); their names say that, not more.
    AlsoAccepted = 49,        // no error
    RequestFailed = 26,       // the client cannot go on
    ServerFailed = 35,        // the client cannot go on
    LoginRefused = 5,         // the customer's data was refused
    PasswordRefused = 6,      // the customer's data was refused
    ServerUnreachable = 1500, // no connection to the server
    ServerTimedOut = 28,      // passing: try again
    ServerTooSlow = 29,       // passing: try again
    ServerInterrupted = 61,   // passing: try again
    // Ranges: a customer's field failed validation (each has its own text),
    // more of the customer's data was refused, the server cannot serve now,
    // the order declaration was refused (but TooManyPictures).
    FieldRefusedFirst = 8,
    FieldRefusedLast = 16,
    DataRefusedFirst = 37,
    DataRefusedLast = 44,
    ServerFaultFirst = 1000,
    ServerFaultLast = 1004,
    DeclarationRefusedFirst = 501,
    DeclarationRefusedLast = 520
};
} // namespace ETServerCode
