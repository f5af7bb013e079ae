,Ann,Lee,,Acme Tools,Purchasing,Prefers mornings\, before 11,+49 30 5550 1234,office,+49 30 5550 9876,home
,Bruno,Keller,,Keller & Sohn,,,+41 44 555 12 12,office
,Chiara,Rossi,,Studio Rossi,Design,,+39 02 5550 4433,studio,+39 333 555 0101,mobile
,Dev,Patel,,Northwind Traders,Accounts,Invoices only,+44 20 7946 0018,accounts
,,,,Harbour Logistics,Dispatch,Night desk staffed,+31 10 555 7700,dispatch
Sales Team,0.0,2.0,3.0
Suppliers,1.0,4.0
