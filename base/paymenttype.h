#pragma once

// How the customer pays; the payment type kept as a number (order, price
// tables, payment rules, settings) takes these values.
enum PaymentType : int {
    PaymentUnknown = -1, // not chosen
    PaymentOutlet = 0,   // at the store
    PaymentCreditCard = 1,
    PaymentDebit = 2,
    PaymentBill = 3
};
