<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nl_NL" sourcelanguage="de_DE">
<context>
    <name>ETWizardFactoryPlugin</name>
    <message>
        <source>Assistent für die Bestellung von Abzügen</source>
        <translation>Assistent voor het bestellen van afdrukken</translation>
    </message>
</context>
</TS>
