#pragma once

// What the lists that the server refreshes need of the request layer above
// them: fetch one list from the order server into its file in the resource
// folder. The request layer implements it (GUI thread).
class ETListSource
{
  public:
    virtual ~ETListSource() = default;

    // True when "productlist.xml" was fetched and stored; the request layer
    // keeps the failure otherwise.
    virtual bool fetchProductList() = 0;
    // The same for "transferlist.xml".
    virtual bool fetchTransferList() = 0;
    // The same for "creditcards.xml".
    virtual bool fetchCreditCardList() = 0;
};
